kx_test(tst_wavtabulo SOURCES ${KX_TEST_DIR}/tst_wavtabulo.cpp ${KX_TEST_DIR}/FakeSound.h
        LIBS kx_signal kx_testhost LOCK tabulo)
target_compile_definitions(tst_wavtabulo PRIVATE KX_TABULO_PATH="$<TARGET_FILE:tabulo>")
add_dependencies(tst_wavtabulo tabulo)
