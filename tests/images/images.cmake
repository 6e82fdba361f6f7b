kx_test(tst_courbes SOURCES ${KX_TEST_DIR}/tst_courbes.cpp LIBS kx_images)
kx_test(tst_bmpform SOURCES ${KX_TEST_DIR}/tst_bmpform.cpp LIBS kx_images kx_testhost)
add_dependencies(tst_bmpform samples_images)
target_compile_definitions(tst_bmpform PRIVATE KX_SAMPLES_DIR="${CMAKE_BINARY_DIR}/share/kinexo/exemples")
