kx_test(tst_courbes SOURCES ${KX_TEST_DIR}/tst_courbes.cpp LIBS kx_images)
kx_test(tst_bmpform SOURCES ${KX_TEST_DIR}/tst_bmpform.cpp LIBS kx_images kx_testhost)
