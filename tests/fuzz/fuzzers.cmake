# libFuzzer targets, one per reader, in the clang sanitizer build (scripts/test-sanitize,
# scripts/fuzz). Each is the corpus entry of its reader, under coverage guidance.
if(KINEXO_FUZZ)
  foreach(lecteur Wav Son Image Video Nombres PageTabulo)
    string(TOLOWER ${lecteur} nom)
    add_executable(fuzz_${nom} ${KX_TEST_DIR}/fuzz_lecteur.cpp)
    target_compile_definitions(fuzz_${nom} PRIVATE LECTEUR=${lecteur})
    target_link_libraries(fuzz_${nom} PRIVATE kx_entreesfuzz)
    target_link_options(fuzz_${nom} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
