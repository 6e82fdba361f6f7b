kx_test(tst_mecatableau SOURCES ${KX_TEST_DIR}/tst_mecatableau.cpp LIBS kx_images)
kx_test(tst_bmpmecaform SOURCES ${KX_TEST_DIR}/tst_bmpmecaform.cpp LIBS kx_images kx_testhost)
add_dependencies(tst_bmpmecaform samples_strobo)
target_include_directories(tst_bmpmecaform PRIVATE ${CMAKE_SOURCE_DIR}/tools/samples-strobo)
target_compile_definitions(tst_bmpmecaform PRIVATE
  KX_STROBO_SAMPLE="${CMAKE_BINARY_DIR}/share/kinexo/exemples/chronophoto-chute.jpg")
kx_test(tst_bmpmeca_bout SOURCES ${KX_TEST_DIR}/tst_bmpmeca_bout.cpp LIBS kx_images kx_testhost LOCK tabulo)
add_dependencies(tst_bmpmeca_bout samples_strobo tabulo)
target_include_directories(tst_bmpmeca_bout PRIVATE ${CMAKE_SOURCE_DIR}/tools/samples-strobo)
target_compile_definitions(tst_bmpmeca_bout PRIVATE KX_TABULO_PATH="$<TARGET_FILE:tabulo>"
  KX_STROBO_SAMPLE="${CMAKE_BINARY_DIR}/share/kinexo/exemples/chronophoto-chute.jpg")
