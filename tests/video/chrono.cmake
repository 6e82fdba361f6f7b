kx_test(tst_compositechrono SOURCES ${KX_TEST_DIR}/tst_compositechrono.cpp ${KX_TEST_DIR}/ClipsImages.h LIBS kx_video)
kx_test(tst_suivicouleur SOURCES ${KX_TEST_DIR}/tst_suivicouleur.cpp ${KX_TEST_DIR}/ClipsImages.h LIBS kx_video)
kx_test(tst_fenetreschrono SOURCES ${KX_TEST_DIR}/tst_fenetreschrono.cpp LIBS kx_video)
