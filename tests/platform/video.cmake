kx_test(tst_videosource SOURCES ${KX_TEST_DIR}/tst_videosource.cpp LIBS kx_platform)
