kx_test(tst_numbertext SOURCES ${KX_TEST_DIR}/tst_numbertext.cpp LIBS kx_transfer)
kx_test(tst_exchangetext SOURCES ${KX_TEST_DIR}/tst_exchangetext.cpp LIBS kx_transfer)
