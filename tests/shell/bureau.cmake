# Run under a non-French locale on purpose: Qt's texts must still be French.
kx_test(tst_bureau SOURCES ${KX_TEST_DIR}/tst_bureau.cpp LIBS kx_shell ENV "LANG=C.UTF-8;LC_ALL=C.UTF-8;LANGUAGE=")
