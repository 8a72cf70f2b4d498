# Reliability: the helpers that the scripts of this folder run (broken
# copies of the assets, a close request to the window), and the test suite
# of the window sizes.
add_executable(vesk-break-asset ${CMAKE_CURRENT_LIST_DIR}/break_asset.cpp)
vesk_warnings(vesk-break-asset)
set_target_properties(vesk-break-asset PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

find_package(X11 REQUIRED)
add_executable(vesk-close-window ${CMAKE_CURRENT_LIST_DIR}/close_window.cpp)
target_link_libraries(vesk-close-window PRIVATE X11::X11)
vesk_warnings(vesk-close-window)
set_target_properties(vesk-close-window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

vesk_test_suite(reliability vesk_app)
