kx_test(tst_camerasource SOURCES ${KX_TEST_DIR}/tst_camerasource.cpp LIBS kx_platform)
