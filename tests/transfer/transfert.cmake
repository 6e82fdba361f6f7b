kx_test(tst_transfert SOURCES ${KX_TEST_DIR}/tst_transfert.cpp ${KX_TEST_DIR}/TableVideo.h LIBS kx_testhost)
