kx_test(tst_courbes SOURCES ${KX_TEST_DIR}/tst_courbes.cpp LIBS kx_images)
