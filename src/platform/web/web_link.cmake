# The browser build of the show: vesk.js and vesk.wasm, started by our page
# (web/index.html), which puts data/ into the file system and calls main.
target_sources(vesk PRIVATE ${PROJECT_SOURCE_DIR}/src/app/web/show_time.cpp)
set_target_properties(vesk PROPERTIES SUFFIX ".js"
  LINK_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/library_web_glut.js;${CMAKE_CURRENT_LIST_DIR}/decode.js")
target_link_options(vesk PRIVATE
  -sLEGACY_GL_EMULATION=1
  -sGL_UNSAFE_OPTS=0
  # Image and sound decoding wait for the browser inside the show's calls.
  -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1
  # Effects of one layer are drawn in the order of their addresses; this
  # allocator hands them out in the same order as the desktop's C library.
  -sMALLOC=emmalloc
  # The show's exit(0) runs its exit handlers and tells the page.
  -sEXIT_RUNTIME=1
  -sINVOKE_RUN=0
  -sFORCE_FILESYSTEM=1
  -sENVIRONMENT=web
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS']"
  "SHELL:--js-library ${CMAKE_CURRENT_LIST_DIR}/library_web_glut.js"
  "SHELL:--pre-js ${CMAKE_CURRENT_LIST_DIR}/decode.js")
