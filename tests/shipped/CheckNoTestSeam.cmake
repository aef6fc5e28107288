# Fails when one of the FILES (a list) holds a name from the tests' fault injection: what ships
# must call the system's flush and writeback, with nothing a test could switch.
foreach(file ${FILES})
    file(STRINGS "${file}" hits REGEX "injected(Flush|Writeback)Failure|testing_support")
    if(hits)
        list(GET hits 0 first)
        message(SEND_ERROR "${file} holds test code: ${first}")
    endif()
endforeach()
