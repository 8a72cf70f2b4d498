# The signal tests run the built show.
target_compile_definitions(vesk_app_tests PRIVATE VESK_EXECUTABLE="$<TARGET_FILE:vesk>")
add_dependencies(vesk_app_tests vesk vesk_data)
