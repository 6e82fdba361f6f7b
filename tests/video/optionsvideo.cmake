kx_test(tst_optionsvideo SOURCES ${KX_TEST_DIR}/tst_optionsvideo.cpp LIBS kx_video)
