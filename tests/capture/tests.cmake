# vesk-capture: unit tests of its library, and end-to-end runs of the built
# program in a temporary directory holding a link to the generated data/.
vesk_test_suite(capture vesk_capture)
if(TARGET vesk_capture_tests)
  target_sources(vesk_capture_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/capture_test_support.cpp)
  target_compile_definitions(vesk_capture_tests PRIVATE
    VESK_CAPTURE_PROGRAM="$<TARGET_FILE:vesk-capture>"
    VESK_DATA_DIRECTORY="${CMAKE_BINARY_DIR}/data")
  add_dependencies(vesk_capture_tests vesk-capture vesk_data)
endif()
