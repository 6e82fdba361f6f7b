kx_test(tst_transfertpointage SOURCES ${KX_TEST_DIR}/tst_transfertpointage.cpp LIBS kx_pointing kx_testhost)
