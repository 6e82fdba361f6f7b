kx_test(tst_optiquesample SOURCES ${KX_TEST_DIR}/tst_optiquesample.cpp LIBS kx_signal)
target_include_directories(tst_optiquesample PRIVATE ${PROJECT_SOURCE_DIR}/tools/samples-optique)
target_compile_definitions(tst_optiquesample PRIVATE KX_SAMPLES_DIR="${CMAKE_BINARY_DIR}/share/kinexo/exemples")
add_dependencies(tst_optiquesample samples_optique)
