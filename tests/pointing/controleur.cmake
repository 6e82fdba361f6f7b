kx_test(tst_pointagecontroleur SOURCES ${KX_TEST_DIR}/tst_pointagecontroleur.cpp LIBS kx_pointing)
