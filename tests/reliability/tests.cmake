# Reliability: the helpers that the scripts of this folder run (broken
# copies of the assets, finding and closing windows), and the test suite
# of the window sizes.
add_executable(vesk-break-asset ${CMAKE_CURRENT_LIST_DIR}/break_asset.cpp)
vesk_warnings(vesk-break-asset)
set_target_properties(vesk-break-asset PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

find_package(X11 REQUIRED)
add_executable(vesk-x-window ${CMAKE_CURRENT_LIST_DIR}/x_window.cpp)
target_link_libraries(vesk-x-window PRIVATE X11::X11)
vesk_warnings(vesk-x-window)
set_target_properties(vesk-x-window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

vesk_test_suite(reliability vesk_app)
