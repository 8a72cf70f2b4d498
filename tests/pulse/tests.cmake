# The show through a real sound server (scripts of this folder): the
# server's two failures. The whole show through the server
# (`pulse-run.sh show`, run from the build directory under an X server) is a
# measurement to run by hand for now: on a loaded 2-core machine the server
# still drops buffers, so it cannot yet hold as a test.
foreach(mode kill-at-30 no-server)
  add_test(NAME pulse_${mode} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse-run.sh ${mode}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
set_tests_properties(pulse_kill-at-30 pulse_no-server PROPERTIES LABELS reliability RUN_SERIAL TRUE TIMEOUT 200)
