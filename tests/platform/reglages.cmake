kx_test(tst_reglages SOURCES ${KX_TEST_DIR}/tst_reglages.cpp LIBS kx_platform)
