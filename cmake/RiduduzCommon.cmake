# Shared build settings: warnings as errors on our own code, the sanitizer build,
# and compiling files into the program as named resources.

if(RIDUDUZ_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Our own targets call this; third-party headers (gtest, FLTK) stay outside -Werror
# because they are included as system headers.
function(riduduz_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# riduduz_add_resources(<target> <NAME> <file> [<NAME> <file>]...)
# Creates an OBJECT library <target> that registers each file under NAME with
# winapi's resource table when the program starts. Link it into an executable
# (object libraries are never dropped by the linker, unlike members of a static archive).
function(riduduz_add_resources target)
    set(args ${ARGN})
    set(sources)
    list(LENGTH args n)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET args ${i} name)
        list(GET args ${j} file)
        get_filename_component(file "${file}" ABSOLUTE)
        set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}.cpp")
        add_custom_command(
            OUTPUT "${out}"
            COMMAND ${CMAKE_COMMAND} -DNAME=${name} -DINPUT=${file} -DOUTPUT=${out}
                    -P ${PROJECT_SOURCE_DIR}/cmake/EmbedResource.cmake
            DEPENDS "${file}" ${PROJECT_SOURCE_DIR}/cmake/EmbedResource.cmake
            COMMENT "Embedding resource ${name}")
        list(APPEND sources "${out}")
    endforeach()
    add_library(${target} OBJECT ${sources})
    target_link_libraries(${target} PUBLIC winapi)
endfunction()
