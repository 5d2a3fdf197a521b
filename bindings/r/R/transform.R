# The parts of a link that carry values across: M and t, and the inverse A and b (a link made
# by hand may give M and t only).
.link_parts <- function(link) {
  if (!is.list(link) || is.null(link$M) || is.null(link$t)) {
    stop("link must be a torvak_link result or a list with M and t", call. = FALSE)
  }
  M <- as.matrix(link$M)
  t <- as.double(link$t)
  k <- length(t)
  if (!is.numeric(M) || !identical(dim(M), c(k, k))) {
    stop(sprintf("link: M must be a %d x %d matrix for a t of %d values", k, k, k), call. = FALSE)
  }
  if (!all(is.finite(M)) || !all(is.finite(t))) {
    stop("link: M and t hold values that are not finite numbers", call. = FALSE)
  }
  A <- link$A
  b <- link$b
  if (is.null(A) || is.null(b) || !all(is.finite(A)) || !all(is.finite(b))) {
    A <- solve(M)
    b <- -drop(A %*% t)
  }
  list(k = k, M = M, t = t, A = as.matrix(A), b = as.double(b))
}

# Items of the From calibration on the To scale. With theta_From = A theta_To + b (A = M^-1,
# b = -M^-1 t) the logit a' theta_From + d becomes (A' a)' theta_To + d + a' b; a partial
# credit item's k a' theta_From + d_k becomes k (A' a)' theta_To + d_k + k a' b.
torvak_transform <- function(items, link) {
  parts <- .link_parts(link)
  table <- .item_table(items, "items", check = FALSE)
  if (table$k != parts$k) {
    stop(sprintf("items have %d slope column%s and the link %d dimension%s", table$k,
                 if (table$k == 1L) "" else "s", parts$k, if (parts$k == 1L) "" else "s"),
         call. = FALSE)
  }
  .with_values(items, table, table$slopes %*% parts$A, drop(table$slopes %*% parts$b))
}

# Theta points of the From scale on the To scale: M theta + t for each row (or each value of a
# vector in one dimension).
torvak_transform_theta <- function(theta, link) {
  parts <- .link_parts(link)
  k <- parts$k
  if (is.null(dim(theta)) && is.numeric(theta)) {
    if (k == 1L) return(parts$M[1L, 1L] * theta + parts$t)
    if (length(theta) != k) {
      stop(sprintf("theta: a point has %d coordinates, not %d", k, length(theta)), call. = FALSE)
    }
    out <- drop(parts$M %*% theta) + parts$t
    names(out) <- names(theta)
    return(out)
  }
  values <- .theta_matrix(theta, k)
  out <- values %*% t(parts$M) + matrix(parts$t, nrow(values), k, byrow = TRUE)
  if (is.data.frame(theta)) {
    for (j in seq_len(k)) theta[[j]] <- out[, j]
    return(theta)
  }
  dimnames(out) <- dimnames(theta)
  out
}
