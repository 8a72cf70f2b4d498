# The browser build played in headless Chromium (label web). The site is
# built first by scripts/build-web.sh, with the assets of this build tree;
# then one whole-show run checks frames, cues and the end together, and a
# short run checks the box for a missing picture.
set(VESK_WEB_SITE ${CMAKE_BINARY_DIR}/web-site)
set(VESK_WEB_DRIVER ${CMAKE_CURRENT_LIST_DIR}/browser_show.py)
add_test(NAME web_site COMMAND ${CMAKE_COMMAND} -E env VESK_HOST_BUILD=${CMAKE_BINARY_DIR}
  ${CMAKE_SOURCE_DIR}/scripts/build-web.sh ${VESK_WEB_SITE})
set_tests_properties(web_site PROPERTIES LABELS web FIXTURES_SETUP web_site TIMEOUT 1800)

add_test(NAME web_show COMMAND ${VESK_WEB_DRIVER} show ${VESK_WEB_SITE}
  $<TARGET_FILE:vesk-capture> ${CMAKE_BINARY_DIR} $<TARGET_FILE:vesk-cue-check>)
add_test(NAME web_missing_image COMMAND ${VESK_WEB_DRIVER} missing-image ${VESK_WEB_SITE})
set_tests_properties(web_show web_missing_image PROPERTIES LABELS web FIXTURES_REQUIRED web_site
  RUN_SERIAL TRUE TIMEOUT 300)
