kx_test(tst_ouverture SOURCES ${KX_TEST_DIR}/tst_ouverture.cpp LIBS kx_shell kx_testhost)
add_dependencies(tst_ouverture kinexo)
target_compile_definitions(tst_ouverture PRIVATE KINEXO_EXE="$<TARGET_FILE:kinexo>")
