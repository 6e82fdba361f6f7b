kx_test(tst_testinwav SOURCES ${KX_TEST_DIR}/tst_testinwav.cpp ${KX_TEST_DIR}/FakeSound.h
        LIBS kx_signal LOCK audio)
kx_test(tst_wavexport SOURCES ${KX_TEST_DIR}/tst_wavexport.cpp LIBS kx_signal)
kx_test(tst_wavmain SOURCES ${KX_TEST_DIR}/tst_wavmain.cpp ${KX_TEST_DIR}/FakeSound.h
        LIBS kx_signal kx_testhost LOCK audio)
kx_test(tst_samplessound SOURCES ${KX_TEST_DIR}/tst_samplessound.cpp LIBS kx_signal
        ENV "KX_SAMPLES_DIR=${CMAKE_BINARY_DIR}/share/kinexo/exemples")
add_dependencies(tst_samplessound samples_sound)
kx_test(tst_wavlanceur SOURCES ${KX_TEST_DIR}/tst_wavlanceur.cpp LIBS kx_shell kx_signal kx_testhost)
