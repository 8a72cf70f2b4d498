# The fuzz targets are built only when asked for, in a clang build.
option(VESK_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(VESK_FUZZ)
  add_subdirectory(fuzz)
endif()
