# The end-to-end runs of the built show take the show's full 68.5 s each.
target_compile_definitions(vesk_app_tests PRIVATE VESK_EXECUTABLE="$<TARGET_FILE:vesk>")
add_dependencies(vesk_app_tests vesk vesk_data)
