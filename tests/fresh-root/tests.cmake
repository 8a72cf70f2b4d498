# The README's set-up on a freshly installed Debian 13 and Debian 12
# (scripts/fresh-root.sh): a debootstrap root, the show-only install and
# build, the full install and test build, a still from vesk-capture and the
# unit tests. Needs root and the network; packages are cached outside the
# checkout.
foreach(release 13 12)
  add_test(NAME fresh_root_debian_${release} COMMAND ${CMAKE_SOURCE_DIR}/scripts/fresh-root.sh ${release})
  set_tests_properties(fresh_root_debian_${release} PROPERTIES LABELS fresh-root TIMEOUT 3600 RUN_SERIAL TRUE)
endforeach()
