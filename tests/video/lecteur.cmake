kx_test(tst_aviechecs SOURCES ${KX_TEST_DIR}/tst_aviechecs.cpp ${KX_TEST_DIR}/ClipsTest.h LIBS kx_video kx_testhost)
