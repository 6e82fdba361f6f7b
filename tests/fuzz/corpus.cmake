# The readers a damaged file can reach, one entry each, shared by the regression corpus and the fuzzers.
add_library(kx_entreesfuzz STATIC ${KX_TEST_DIR}/EntreesFuzz.cpp ${KX_TEST_DIR}/EntreesFuzz.h)
target_include_directories(kx_entreesfuzz PUBLIC ${KX_TEST_DIR})
target_link_libraries(kx_entreesfuzz PUBLIC kx_signal kx_platform kx_transfer kx_tabulo)
target_compile_options(kx_entreesfuzz PRIVATE ${KINEXO_WARNINGS})

add_executable(kx_corpus_lecteur ${KX_TEST_DIR}/corpus_lecteur.cpp)
target_link_libraries(kx_corpus_lecteur PRIVATE kx_entreesfuzz)
kx_test(tst_corpus SOURCES ${KX_TEST_DIR}/tst_corpus.cpp LIBS kx_entreesfuzz)
add_dependencies(tst_corpus kx_corpus_lecteur)
target_compile_definitions(tst_corpus PRIVATE KX_CORPUS_LECTEUR="$<TARGET_FILE:kx_corpus_lecteur>"
  KX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
set_tests_properties(tst_corpus PROPERTIES TIMEOUT 1500)
set_tests_properties(tst_corpus PROPERTIES DISABLED TRUE) # until the picture and MP3 readers refuse these files cleanly
