# Fails when one of the FILES (a list) has more than LIMIT bytes.
foreach(file ${FILES})
    file(SIZE "${file}" size)
    message(STATUS "${file}: ${size} bytes, at most ${LIMIT}")
    if(size GREATER LIMIT)
        message(SEND_ERROR "${file} has ${size} bytes, more than ${LIMIT}")
    endif()
endforeach()
