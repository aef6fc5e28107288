# One INTERFACE target carries the compile settings that every target of the project links,
# instead of global flags, so a target cannot silently miss them.
option(SPLITWERK_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(splitwerk_options INTERFACE)
target_compile_features(splitwerk_options INTERFACE cxx_std_20)
target_compile_options(splitwerk_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wformat=2 -Wold-style-cast
    # Each function and datum in a section of its own, so that a program linked with
    # --gc-sections (QUIL.SYS, which every first disk carries) keeps only what it calls.
    -ffunction-sections -fdata-sections)
target_compile_definitions(splitwerk_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)

if(SPLITWERK_SANITIZE)
    target_compile_options(splitwerk_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(splitwerk_options INTERFACE -fsanitize=address,undefined)
endif()

# The engine deals in byte counts and offsets; narrowing there is a real fault, so the
# engine's own targets also link this.
add_library(splitwerk_engine_options INTERFACE)
target_link_libraries(splitwerk_engine_options INTERFACE splitwerk_options)
target_compile_options(splitwerk_engine_options INTERFACE -Wconversion -Wsign-conversion)

# What QUIL.SYS is made of is optimised for size in every build, Debug too: every byte of it is
# taken from the first disk of each set the build's program writes, and joining waits on the
# disks, not on the processor. Sanitizer builds keep their own settings; their QUIL.SYS is for
# the tests only.
add_library(splitwerk_small_options INTERFACE)
if(NOT SPLITWERK_SANITIZE)
    target_compile_options(splitwerk_small_options INTERFACE -Os)
endif()

# A program that travels (on a first disk, in Setup.exe) without its debugging information: it
# moves to <file>.debug beside it, found again through the debug link.
function(splitwerk_split_debug_info target)
    if(CMAKE_OBJCOPY AND CMAKE_STRIP)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
            COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
            COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
            WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
            VERBATIM)
    endif()
endfunction()
