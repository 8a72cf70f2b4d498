# The show through a real sound server (scripts of this folder): the
# server's two failures. The whole show through the server
# (`pulse-run.sh show`, run from the build directory under an X server)
# passes its checks in most runs on our 2-core machines, but about one run
# in seven the client and the server's real-time threads stall together
# for 40 to 90 ms, longer than the server's buffer, and the stream runs
# dry. Until that stall is understood it is a measurement to run by hand,
# not a test that fails at random.
foreach(mode kill-at-30 no-server)
  add_test(NAME pulse_${mode} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse-run.sh ${mode}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
set_tests_properties(pulse_kill-at-30 pulse_no-server PROPERTIES LABELS reliability RUN_SERIAL TRUE TIMEOUT 200)
