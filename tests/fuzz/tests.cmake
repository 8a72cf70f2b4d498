# The fuzz targets are built only when asked for, in a clang build (the
# preset fuzz); the main build registers the stages that build and run them.
option(VESK_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(VESK_FUZZ)
  add_subdirectory(fuzz)
endif()
add_test(NAME reliability.fuzz_build COMMAND ${CMAKE_CURRENT_LIST_DIR}/fuzz.sh build WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(reliability.fuzz_build PROPERTIES LABELS reliability FIXTURES_SETUP fuzz TIMEOUT 2400)
foreach(target png_decode sound_stream)
  add_test(NAME reliability.fuzz_${target} COMMAND ${CMAKE_CURRENT_LIST_DIR}/fuzz.sh ${target} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(reliability.fuzz_${target} PROPERTIES LABELS reliability FIXTURES_REQUIRED fuzz TIMEOUT 120)
endforeach()
