kx_test(tst_documentson SOURCES ${KX_TEST_DIR}/tst_documentson.cpp LIBS kx_signal)
