kx_test(tst_repertoires SOURCES ${KX_TEST_DIR}/tst_repertoires.cpp LIBS kx_shell)
kx_test(tst_lanceur SOURCES ${KX_TEST_DIR}/tst_lanceur.cpp LIBS kx_shell)
target_compile_definitions(tst_lanceur PRIVATE KINEXO_VERSION_ESSAI="${PROJECT_VERSION}")

# The single-instance guard, between real processes: a small program using the guard, and kinexo itself.
add_executable(kx_essai_instance ${KX_TEST_DIR}/essai_instance.cpp)
target_link_libraries(kx_essai_instance PRIVATE kx_platform)
kx_test(tst_instance SOURCES ${KX_TEST_DIR}/tst_instance.cpp LIBS kx_platform)
add_dependencies(tst_instance kx_essai_instance kinexo)
target_compile_definitions(tst_instance PRIVATE
  ESSAI_INSTANCE="$<TARGET_FILE:kx_essai_instance>" KINEXO_EXE="$<TARGET_FILE:kinexo>")
