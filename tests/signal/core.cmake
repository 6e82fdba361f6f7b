kx_test(tst_grapheu SOURCES ${KX_TEST_DIR}/tst_grapheu.cpp LIBS kx_signal)
