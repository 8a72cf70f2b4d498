# The end-to-end runs of the built show take the show's full 68.5 s each.
# The swap shim notes the frames' show times for the cue analysis.
target_compile_definitions(vesk_app_tests PRIVATE VESK_EXECUTABLE="$<TARGET_FILE:vesk>"
  VESK_SWAP_SHIM="$<TARGET_FILE:vesk_swap_shim>")
add_dependencies(vesk_app_tests vesk vesk_data vesk_swap_shim)
