kx_test(tst_avichrono SOURCES ${KX_TEST_DIR}/tst_avichrono.cpp ${KX_TEST_DIR}/ClipsImages.h LIBS kx_video kx_testhost)
