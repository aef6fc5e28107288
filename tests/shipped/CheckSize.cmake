# Fails when one of the files has more than LIMIT bytes.
#   cmake "-DFILES=<file>;<file>..." -DLIMIT=<bytes> -P CheckSize.cmake
foreach(file ${FILES})
    file(SIZE "${file}" size)
    message(STATUS "${file}: ${size} bytes, at most ${LIMIT}")
    if(size GREATER LIMIT)
        message(SEND_ERROR "${file} has ${size} bytes, more than ${LIMIT}")
    endif()
endforeach()
