# test_usbemu: the libusb back-end against a board emulated with umockdev. Included from the test loop of the
# top CMakeLists.txt after the tests are declared (name, dir: this folder).
target_link_libraries(test_${name} PRIVATE PkgConfig::UMOCKDEV)
# The command-line test runs the real tessaline-cli against the board.
add_dependencies(test_${name} tessaline-cli)

# Each test runs with umockdev's preload library, which redirects /sys and /dev to the testbed and hands the
# device node's requests to the test. The preload comes before the sanitizer runtime, which AddressSanitizer
# accepts only when told to. The discovered tests exist only at ctest time, so their environment is set there.
set(usbemu_env_file ${CMAKE_CURRENT_BINARY_DIR}/test_${name}_env.cmake)
file(WRITE ${usbemu_env_file}
"if(test_${name}_TESTS)
  set_tests_properties(\${test_${name}_TESTS} PROPERTIES ENVIRONMENT_MODIFICATION
    \"LD_PRELOAD=path_list_prepend:libumockdev-preload.so.0;ASAN_OPTIONS=string_append::verify_asan_link_order=0\")
endif()
")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${usbemu_env_file})
