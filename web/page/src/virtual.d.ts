declare module 'virtual:translations' {
  const map: Record<string, string>;
  export default map;
}
