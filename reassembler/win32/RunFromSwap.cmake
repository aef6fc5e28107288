# Sets IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP (0x0400) in the COFF header of a Windows program:
# started from removable media, it is then loaded wholly into memory, and the medium may be
# taken out while it runs. The GNU linker has no option for this flag.
#   cmake -DFILE=<program> -P RunFromSwap.cmake
function(read_bytes offset count out)
    file(READ "${FILE}" hex OFFSET ${offset} LIMIT ${count} HEX)
    set(${out} "${hex}" PARENT_SCOPE)
endfunction()

read_bytes(0 2 magic)
if(NOT magic STREQUAL "4d5a")
    message(FATAL_ERROR "${FILE} is not a Windows program (no MZ header)")
endif()
read_bytes(60 4 lfanew_hex)
string(SUBSTRING "${lfanew_hex}" 0 2 b0)
string(SUBSTRING "${lfanew_hex}" 2 2 b1)
string(SUBSTRING "${lfanew_hex}" 4 2 b2)
string(SUBSTRING "${lfanew_hex}" 6 2 b3)
math(EXPR lfanew "0x${b3}${b2}${b1}${b0}")
read_bytes(${lfanew} 4 signature)
if(NOT signature STREQUAL "50450000")
    message(FATAL_ERROR "${FILE} has no PE signature at ${lfanew}")
endif()
# Characteristics follow the signature (4), Machine, NumberOfSections (2 each), three DWORDs
# and SizeOfOptionalHeader (2): offset 22; the flag sits in its upper byte.
math(EXPR at "${lfanew} + 23")
read_bytes(${at} 1 upper)
math(EXPR value "0x${upper} | 0x04")
math(EXPR d1 "${value} / 64")
math(EXPR d2 "(${value} / 8) % 8")
math(EXPR d3 "${value} % 8")
execute_process(
    COMMAND sh -c "printf '\\${d1}${d2}${d3}' | dd of=\"$1\" bs=1 seek=${at} conv=notrunc status=none" sh "${FILE}"
    RESULT_VARIABLE failed)
read_bytes(${at} 1 check)
math(EXPR check "0x${check} & 0x04")
if(failed OR NOT check EQUAL 4)
    message(FATAL_ERROR "could not set IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP in ${FILE}")
endif()
