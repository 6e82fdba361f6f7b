kx_test(tst_calculscapture SOURCES ${KX_TEST_DIR}/tst_calculscapture.cpp LIBS kx_video)
