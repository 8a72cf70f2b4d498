# The show through a real sound server (pulse-run.sh, run from the build
# directory under an X server): the whole show, whose recording must pass
# the cue analysis, as one of the two whole-show runs; and the server's two
# failures.
add_test(NAME pulse_show COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse-run.sh show WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(pulse_show PROPERTIES LABELS show RUN_SERIAL TRUE TIMEOUT 200)
foreach(mode kill-at-30 no-server)
  add_test(NAME pulse_${mode} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse-run.sh ${mode}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
set_tests_properties(pulse_kill-at-30 pulse_no-server PROPERTIES LABELS reliability RUN_SERIAL TRUE TIMEOUT 200)
