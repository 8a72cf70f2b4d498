# The browser build played in headless Chromium and headed Firefox (under
# Xvfb), both over WebDriver BiDi (label web). The site is built first by
# scripts/build-web.sh, with the assets of this build tree; then Chromium
# plays the whole show, which checks frames, what was heard and the end
# together, once as it is and once with its main thread stalled; Firefox
# plays it once, the same checks, to a PulseAudio null sink; both engines
# check the missing picture, and Firefox the words for no WebGL.
set(VESK_WEB_SITE ${CMAKE_BINARY_DIR}/web-site)
set(VESK_WEB_DRIVER ${CMAKE_CURRENT_LIST_DIR}/browser_show.py)
add_test(NAME web_site COMMAND ${CMAKE_COMMAND} -E env VESK_HOST_BUILD=${CMAKE_BINARY_DIR}
  ${CMAKE_SOURCE_DIR}/scripts/build-web.sh ${VESK_WEB_SITE})
set_tests_properties(web_site PROPERTIES LABELS web FIXTURES_SETUP web_site TIMEOUT 1800)

set(show_args ${VESK_WEB_SITE} $<TARGET_FILE:vesk-capture> ${CMAKE_BINARY_DIR} $<TARGET_FILE:vesk-cue-check>)
add_test(NAME web_show COMMAND ${VESK_WEB_DRIVER} chromium show ${show_args})
add_test(NAME web_show_stalled COMMAND ${VESK_WEB_DRIVER} chromium show ${show_args} --stall)
add_test(NAME web_firefox_show COMMAND ${CMAKE_SOURCE_DIR}/tests/support/pulse-server.sh xvfb-run -a ${VESK_WEB_DRIVER}
  firefox show ${show_args})
add_test(NAME web_missing_image COMMAND ${VESK_WEB_DRIVER} chromium missing-image ${VESK_WEB_SITE})
add_test(NAME web_firefox_missing_image COMMAND xvfb-run -a ${VESK_WEB_DRIVER} firefox missing-image ${VESK_WEB_SITE})
add_test(NAME web_no_webgl COMMAND xvfb-run -a ${VESK_WEB_DRIVER} firefox no-webgl ${VESK_WEB_SITE})
set_tests_properties(web_show web_show_stalled web_firefox_show web_missing_image web_firefox_missing_image web_no_webgl
  PROPERTIES LABELS web FIXTURES_REQUIRED web_site RUN_SERIAL TRUE TIMEOUT 300)
