kx_test(tst_pointagemodel SOURCES ${KX_TEST_DIR}/tst_pointagemodel.cpp LIBS kx_pointing)
kx_test(tst_reglagespointage SOURCES ${KX_TEST_DIR}/tst_reglagespointage.cpp LIBS kx_pointing)
