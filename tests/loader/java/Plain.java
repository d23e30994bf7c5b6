class Plain {
}
