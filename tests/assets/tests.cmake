# The asset tests read the generated files from data/, run the generator
# themselves to check that it writes the same bytes every time, and test
# the generator's synthesiser and drawing helpers directly.
if(TARGET vesk_assets_tests)
  target_compile_definitions(vesk_assets_tests PRIVATE VESK_ASSETGEN="$<TARGET_FILE:vesk_assetgen>"
    VESK_ASSET_MANIFEST="${PROJECT_SOURCE_DIR}/assets.txt")
  add_dependencies(vesk_assets_tests vesk_assetgen vesk_data)
  target_link_libraries(vesk_assets_tests PRIVATE vesk_assetgen_parts PkgConfig::SNDFILE)
endif()
