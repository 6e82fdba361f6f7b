kx_test(tst_receptiontabulo SOURCES ${KX_TEST_DIR}/tst_receptiontabulo.cpp LIBS kx_tabulo)
