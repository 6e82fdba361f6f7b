kx_test(tst_cadrepointage SOURCES ${KX_TEST_DIR}/tst_cadrepointage.cpp LIBS kx_pointing kx_testhost)
kx_test(tst_boitecouleurs SOURCES ${KX_TEST_DIR}/tst_boitecouleurs.cpp LIBS kx_pointing)
