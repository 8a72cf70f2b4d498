# The show through a real sound server (scripts of this folder): the whole
# show heard through the server, and the server's two failures.
foreach(mode show kill-at-30 no-server)
  add_test(NAME pulse_${mode} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse-run.sh ${mode}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
set_tests_properties(pulse_kill-at-30 pulse_no-server PROPERTIES LABELS reliability RUN_SERIAL TRUE TIMEOUT 200)
# A whole-show run in real time: the show label, alone on the machine.
set_tests_properties(pulse_show PROPERTIES LABELS show RUN_SERIAL TRUE TIMEOUT 200)
