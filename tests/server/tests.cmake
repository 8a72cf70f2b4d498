# The show through real sound servers (server-run.sh, run from the build
# directory under an X server): the whole show through PulseAudio and
# through a PipeWire graph, by its pipewire-pulse and by SDL's pipewire
# driver, each recording passing the cue analysis; the failures are the
# server killed 30 s in and no server at all.
foreach(run pulse:show pulse:kill-at-30 pulse:no-server pipewire-pulse:show pipewire:show pipewire-pulse:kill-at-30
        pipewire:no-server)
  string(REPLACE ":" ";" parts ${run})
  list(GET parts 0 server)
  list(GET parts 1 mode)
  add_test(NAME ${server}_${mode} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/server-run.sh ${server} ${mode}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  if(mode STREQUAL show)
    set_tests_properties(${server}_${mode} PROPERTIES LABELS show RUN_SERIAL TRUE TIMEOUT 200)
  else()
    set_tests_properties(${server}_${mode} PROPERTIES LABELS reliability RUN_SERIAL TRUE TIMEOUT 200)
  endif()
endforeach()
