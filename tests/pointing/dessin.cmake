kx_test(tst_dessinpointage SOURCES ${KX_TEST_DIR}/tst_dessinpointage.cpp LIBS kx_pointing)
kx_test(tst_grillepointage SOURCES ${KX_TEST_DIR}/tst_grillepointage.cpp LIBS kx_pointing kx_testhost)
kx_test(tst_vuepointage SOURCES ${KX_TEST_DIR}/tst_vuepointage.cpp LIBS kx_pointing)
