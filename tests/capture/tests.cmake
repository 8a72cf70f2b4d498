# vesk-capture: unit tests of its library, and runs of the built program in
# a scratch directory holding a link to the generated data/.
vesk_test_suite(capture vesk_capture)
if(TARGET vesk_capture_tests)
  target_compile_definitions(vesk_capture_tests PRIVATE
    VESK_CAPTURE_PROGRAM="$<TARGET_FILE:vesk-capture>" VESK_DATA_DIRECTORY="${CMAKE_BINARY_DIR}/data")
  target_link_libraries(vesk_capture_tests PRIVATE PkgConfig::SNDFILE)
  add_dependencies(vesk_capture_tests vesk-capture vesk_data)
endif()
