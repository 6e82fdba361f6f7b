kx_test(tst_fichierini SOURCES ${KX_TEST_DIR}/tst_fichierini.cpp LIBS kx_platform)
