kx_test(tst_extractionvideo SOURCES ${KX_TEST_DIR}/tst_extractionvideo.cpp LIBS kx_images)
kx_test(tst_videofromjpeg SOURCES ${KX_TEST_DIR}/tst_videofromjpeg.cpp LIBS kx_images)
kx_test(tst_videobmp SOURCES ${KX_TEST_DIR}/tst_videobmp.cpp LIBS kx_images kx_testhost)
