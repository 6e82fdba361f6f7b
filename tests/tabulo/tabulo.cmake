kx_test(tst_pagetabulo SOURCES ${KX_TEST_DIR}/tst_pagetabulo.cpp LIBS kx_tabulo)
