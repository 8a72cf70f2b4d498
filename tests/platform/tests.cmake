# In a ThreadSanitizer build (VESK_SANITIZE=thread), the sound tests that run
# threads (the device's callback thread against the main thread's calls, a
# decoder thread against its reader) are also registered as one ctest entry, so `ctest -R sound_threads` checks just them.
# ThreadSanitizer makes the process exit non-zero after any report.
if(VESK_SANITIZE MATCHES "thread" AND TARGET vesk_platform_tests)
  add_test(NAME sound_threads
    COMMAND vesk_platform_tests --gtest_filter=SoundDevice.*:SndfileStream.*:SoundLifeCycle.*
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(sound_threads PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy;TSAN_OPTIONS=halt_on_error=1")
endif()
