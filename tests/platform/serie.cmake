kx_test(tst_filesearch SOURCES ${KX_TEST_DIR}/tst_filesearch.cpp LIBS kx_platform)
kx_test(tst_imagesanticipees SOURCES ${KX_TEST_DIR}/tst_imagesanticipees.cpp LIBS kx_platform)
kx_test(tst_videowriter SOURCES ${KX_TEST_DIR}/tst_videowriter.cpp LIBS kx_platform)
