# Decides how the 32-bit Linux builds run their programs (tests, benchmarks).
# Some kernels have ia32 emulation switched off; there a 32-bit program fails
# with "Exec format error", and the programs run under qemu-i386 instead.
# The answer is cached per build folder (TARNWICK_I386_NATIVE).
if(NOT DEFINED CACHE{TARNWICK_I386_NATIVE})
    set(probe_dir ${CMAKE_BINARY_DIR}/CMakeFiles/i386-probe)
    file(WRITE ${probe_dir}/probe.c "int main(void) { return 0; }\n")
    try_compile(probe_built ${probe_dir}/build ${probe_dir}/probe.c
                COPY_FILE ${probe_dir}/probe)
    set(native OFF)
    if(probe_built)
        execute_process(COMMAND ${probe_dir}/probe RESULT_VARIABLE probe_result
                        OUTPUT_QUIET ERROR_QUIET)
        if(probe_result STREQUAL "0")
            set(native ON)
        endif()
    endif()
    set(TARNWICK_I386_NATIVE ${native} CACHE BOOL "This machine runs 32-bit x86 programs itself")
endif()

if(NOT TARNWICK_I386_NATIVE)
    find_program(TARNWICK_QEMU_I386 qemu-i386)
    if(NOT TARNWICK_QEMU_I386)
        message(FATAL_ERROR "This kernel does not run 32-bit programs and qemu-i386 is missing: "
                            "run scripts/setup")
    endif()
    message(STATUS "32-bit programs run under qemu-i386 (the kernel does not run them)")
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-i386)
endif()
