kx_test(tst_pointagemodel SOURCES ${KX_TEST_DIR}/tst_pointagemodel.cpp LIBS kx_pointing)
